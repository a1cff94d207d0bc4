//+------------------------------------------------------------------+
//| Grouped conditions                                                |
//+------------------------------------------------------------------+
extern int Slippage = 3;

bool chk;

int init(){
   return(0);
}

int start(){
   double rsi = iRSI(NULL,0,14,PRICE_CLOSE,0);
   if (Hour() >= 8 && ( Hour() < 20 || DayOfWeek() == 5)) Trade(rsi); // session
   if (rsi > 70 && ( OrdersTotal() == 0 || rsi < 30))
   {
      Print("signal: see http://example.org/``() && || ;");
   }
   if (Bid > Ask && ( Volume[0] > 10 ||
      Close[1] > Open[1] /* last bar up */))
      Alert("odd");


   if (IsTradeAllowed() || IsDemo()) Comment("ok");
   if ((Ask > Bid || Bid > 0) && ( Slippage > 0 || AccountEquity() > 100)) return(0);
   return(0);
}

void Trade(double r){
   if (r > 50 && ( r < 90 || r == 0))
   {
      Print("trade");
   }
   return;
}

// Signals with long mixed conditions over several lines
#property copyright "signals"

extern int    Fast = 5;
extern int    Slow = 20;
extern double MinRange = 10;
extern bool   UseFilter = true;
extern int    StartHour = 8, EndHour = 20;


bool chk;

int OnInit(){
return(0);
}

int start(){
   double maF = iMA(NULL,0,Fast,0,MODE_SMA,PRICE_CLOSE,0);
   double maS = iMA(NULL,0,Slow,0,MODE_SMA,PRICE_CLOSE,0);
   double rsi = iRSI(NULL,0,14,PRICE_CLOSE,0);
   int signal = 0;

   if (maF > maS && ( rsi > 50 || !UseFilter ) && maF > maS)
      signal = 1;


   if (maF < maS &&
       (rsi < 50 || !UseFilter) &&
       Hour() >= StartHour && Hour() < EndHour)
   {
      signal = -1;
   }

   if (High[1]-Low[1] > MinRange*Point && ( Close[1] > Open[1] || Close[2] > Open[2] ) && Close[1] > Open[1]) signal = 2;

   if (signal == 1 && ( OrdersTotal() == 0 || signal == 2)) {
      chk = OrderSend(Symbol(),OP_BUY,0.1,Ask,3,0,0,"sig && test || more",0,0,Blue);
   }
   else if (signal == -1 && OrdersTotal() == 0)
      chk = OrderSend(Symbol(),OP_SELL,0.1,Bid,3,0,0,"",0,0,Red);
   else
      Print("no trade");

   if (DayOfWeek() == 5 && ( Hour() > 20 || DayOfWeek() == 6)) 
      return(0);
// weekend && late
   return(0);
}

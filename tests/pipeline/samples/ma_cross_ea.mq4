//+------------------------------------------------------------------+
//|                                               MA_Cross_EA.mq4    |
//|                              移動平均クロスで売買するEA          |
//+------------------------------------------------------------------+
#property copyright "Copyright 2012, Taro Yamada"
#property link      "http://www.example.jp/fx/"

#define MAGIC  20120401
#define SLIP   3

extern double Lots        = 0.1;
extern int    FastPeriod  = 12;
extern int    SlowPeriod  = 26;
extern int    TakeProfit  = 50;   // 利確(pips)
extern int    StopLoss    = 30;   // 損切(pips)
extern bool   UseTrailing = TRUE;

int    ticket;
double lastFast, lastSlow;
string sym = Symbol();

//+------------------------------------------------------------------+
//| 初期化                                                           |
//+------------------------------------------------------------------+
int init()
{
   lastFast = 0;
   lastSlow = 0;
   return(0);
}

int deinit()
{
   return(0);
}

// ポジション数を数える
int CountOrders(int type)
{
   int cnt = 0;
   for(int i = OrdersTotal() - 1; i >= 0; i--)
   {
      OrderSelect(i, SELECT_BY_POS, MODE_TRADES);
      if(OrderSymbol() != Symbol() || OrderMagicNumber() != MAGIC) continue;
      if(OrderType() == type) cnt++;
   }
   return(cnt);
}

void CloseAll()
{
   for(int i = OrdersTotal() - 1; i >= 0; i--)
   {
      OrderSelect(i, SELECT_BY_POS, MODE_TRADES);
      if(OrderMagicNumber() == MAGIC && OrderSymbol() == Symbol())
      {
         if(OrderType() == OP_BUY)
            OrderClose(OrderTicket(), OrderLots(), Bid, SLIP, Blue);
         else if(OrderType() == OP_SELL)
            OrderClose(OrderTicket(), OrderLots(), Ask, SLIP, Red);
      }
   }
}

int start()
{
   double fast = iMA(NULL, 0, FastPeriod, 0, MODE_EMA, PRICE_CLOSE, 1);
   double slow = iMA(NULL, 0, SlowPeriod, 0, MODE_EMA, PRICE_CLOSE, 1);
   double sl, tp;

   if(Bars < 100 || IsTradeAllowed() == false) return(0);

   if(lastFast != 0 && lastFast < lastSlow && fast > slow || CountOrders(OP_BUY) == 0 && fast > slow)
   {
      CloseAll();
      sl = Ask - StopLoss * Point;
      tp = Ask + TakeProfit * Point;
      ticket = OrderSend(Symbol(), OP_BUY, Lots, Ask, SLIP, sl, tp, "MA cross", MAGIC, 0, Blue);
      if(ticket < 0) Print("OrderSend failed: ", GetLastError());
   }
   if(lastFast != 0 && lastFast > lastSlow && fast < slow)
   {
      CloseAll();
      OrderSend(Symbol(), OP_SELL, Lots, Bid, SLIP, Bid + StopLoss * Point, Bid - TakeProfit * Point, "MA cross", MAGIC, 0, Red);
   }

   lastFast = fast;
   lastSlow = slow;
   return(0);
}
//+------------------------------------------------------------------+

//+------------------------------------------------------------------+
//| Order selection in and out of loops                              |
//+------------------------------------------------------------------+
extern int Magic = 1234;

int init()
{
   return(0);
}

void MyOrderSelect(int t, int mode)
{
   Print(t, mode);
}

int start()
{
   int total = OrdersTotal();
   for (int i = total - 1; i >= 0; i--)
   {
      OrderSelect(i, SELECT_BY_POS, MODE_TRADES);
      if (OrderMagicNumber() != Magic) continue;
      Print(OrderTicket());
   }
   for (i = 0; i < OrdersHistoryTotal(); i++) { OrderSelect(i, SELECT_BY_POS, MODE_HISTORY); n++; }
   MyOrderSelect(1, SELECT_BY_TICKET);
   OrderSelect(LastTicket, SELECT_BY_TICKET); // the last one
   bool done = false;
   if (done)
   {
      OrderSelect(LastTicket, SELECT_BY_TICKET, MODE_HISTORY);
   }
   else OrderSelect(0, SELECT_BY_POS);
   Print(OrderLots());
   Print("OrderSelect(", i, ", SELECT_BY_POS) failed");
   return(0);
}

void Last()
{
   OrderSelect(0, SELECT_BY_POS);
}

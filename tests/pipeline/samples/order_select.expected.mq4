//+------------------------------------------------------------------+
//| Order selection in and out of loops                              |
//+------------------------------------------------------------------+
extern int Magic = 1234;

bool chk;

int init(){
   return(0);
}

void MyOrderSelect(int t, int mode){
   Print(t, mode);
}

int start(){
   int total = OrdersTotal();
   for (int i = total - 1; i >= 0; i--)
   {
      if (!OrderSelect(i, SELECT_BY_POS, MODE_TRADES)) continue;
      if (OrderMagicNumber() != Magic) continue;
      Print(OrderTicket());
   }
   for (i = 0; i < OrdersHistoryTotal(); i++){
   if (!OrderSelect(i, SELECT_BY_POS, MODE_HISTORY)) continue; n++;   
}
   MyOrderSelect(1, SELECT_BY_TICKET);
   if (OrderSelect(LastTicket, SELECT_BY_TICKET)) {}// the last one
   bool done = false;
   if (done)
   {
      if (OrderSelect(LastTicket, SELECT_BY_TICKET, MODE_HISTORY)) {}
   }
   else if (OrderSelect(0, SELECT_BY_POS)) {}
   Print(OrderLots());
   Print("OrderSelect(", i, ", SELECT_BY_POS) failed");
   return(0);
}

void Last(){
   if (OrderSelect(0, SELECT_BY_POS)) {}
}

// Loops of every kind, one-line blocks, code after "}"
#property copyright "loops"

int    Ticket[100];
double Profit[100];

bool chk;

int CollectTickets(){
   int n = 0, i = 0;
   do
   {
      if (OrderSelect(i, SELECT_BY_POS, MODE_TRADES)){
      Ticket[n] = OrderTicket(); Profit[n] = OrderProfit(); n++;      
}
      i++;
   }
   while (i < OrdersTotal());
   return(n);
}

void CloseLosers(int n){
   int k = 0;
   while (k < n)
   {
      if (OrderSelect(Ticket[k], SELECT_BY_TICKET)) {}
      if (Profit[k] < 0) chk = OrderClose(Ticket[k], OrderLots(), OrderClosePrice(), 3);
      k++;
   }
}

int HistoryWins(){
   int wins = 0;
   for (int i = 0; i < OrdersHistoryTotal(); i++) {
      if (!OrderSelect(i, SELECT_BY_POS, MODE_HISTORY)) continue;
      if (OrderProfit() > 0) wins++; }
   return(wins);
}


int OnInit(){
return(0);
}

int start(){
   int n = CollectTickets();
   int mode = n % 3;
   switch (mode)
   {
      case 0: CloseLosers(n); break;
      case 1:
      {
         Print("mode one");
         break;
      }
      default: Print("other");
   }
   Print("wins ", HistoryWins());
   return(0);
}

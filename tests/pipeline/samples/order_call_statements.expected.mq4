// The result of an order call is kept where the call stands as a statement.
int chk;
extern double Lots = 0.1;


int OnInit(){
return(0);
}

int start(){
   int ticket = OrderSend(Symbol(), OP_BUY, Lots, Ask, 3, 0, 0);
   if (ticket > 0) chk = OrderModify(ticket, 0, Bid - 50 * Point, 0, 0);
   if ((a || b ) && ( c || OrderModify(t,p,s,tp,0))) {
      Print("modified");
   }
   if (!OrderClose(ticket, Lots, Bid, 3)) Print(GetLastError());
   switch (kind)
   {
      case OP_BUYSTOP: chk = OrderDelete(ticket); break;
      default: chk = OrderClose(ticket, Lots, Bid, 3);
   }
   Print(OrderSend(Symbol(), OP_SELL, Lots, Bid, 3, 0, 0));
   return(OrderClose(ticket, Lots, Bid, 3));
}

bool CloseAll(){
   bool _chk_ = true;
   _chk_ = OrderClose(1, Lots, Bid, 3);
   return(_chk_);
}

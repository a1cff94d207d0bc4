extern int Period = 14;
double Buf[0];
int init()
{
   return(0);
}
int start()
{
   for(int i = 0; i < OrdersTotal(); i++) { OrderSelect(i, SELECT_BY_POS); n++; }
   OrderClose(t, l, Bid, 3);
   return(0);
}

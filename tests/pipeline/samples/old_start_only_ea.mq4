// An old EA with only start(), no init, void helpers without returns
#property copyright "old"
extern double TakeProfit = 50;
extern double Lots = 0.1;
extern double TrailingStop = 30;
int MagicNumber=1234;

void DoBuy()
  {
   int ticket;
   ticket=OrderSend(Symbol(),OP_BUY,Lots,Ask,3,0,Ask+TakeProfit*Point,"old ea",MagicNumber,0,Green);
   if(ticket>0)
     {
      if(OrderSelect(ticket,SELECT_BY_TICKET,MODE_TRADES)) Print("BUY order opened : ",OrderOpenPrice());
     }
   else Print("Error opening BUY order : ",GetLastError());
   return(0);
  }

int CheckTrend()
  {
   if(iMA(NULL,0,50,0,MODE_EMA,PRICE_CLOSE,0)>iMA(NULL,0,200,0,MODE_EMA,PRICE_CLOSE,0)) return(1);
   if(iMA(NULL,0,50,0,MODE_EMA,PRICE_CLOSE,0)<iMA(NULL,0,200,0,MODE_EMA,PRICE_CLOSE,0)) return(-1);
  }

int start()
  {
   int cnt, total;
   if(Bars<100)
     {
      Print("bars less than 100");
      return(0);
     }
   total=OrdersTotal();
   if(total<1)
     {
      if(CheckTrend()==1) DoBuy();
      return(0);
     }
   for(cnt=0;cnt<total;cnt++)
     {
      OrderSelect(cnt, SELECT_BY_POS, MODE_TRADES);
      if(OrderType()<=OP_SELL && OrderSymbol()==Symbol())
        {
         if(OrderType()==OP_BUY)
           {
            if(TrailingStop>0)
              {
               if(Bid-OrderOpenPrice()>Point*TrailingStop)
                 {
                  if(OrderStopLoss()<Bid-Point*TrailingStop)
                    {
                     OrderModify(OrderTicket(),OrderOpenPrice(),Bid-Point*TrailingStop,OrderTakeProfit(),0,Green);
                     return(0);
                    }
                 }
              }
           }
        }
     }
  }

//+------------------------------------------------------------------+
//| Declarations sample                                              |
//+------------------------------------------------------------------+
#property copyright "Example"
extern double Lots = 0.1;
extern int    Slippage = 3;
int    delete;
double my.step = 0.5;
string Prefix = "EA";
int    i;

int init()
{
   delete = 0;
   return(0);
}

int start()
{
   int i, unused;
   double total = 0;   // running sum
   string msg = StringConcatenate(msg, Prefix);
   for(i = 0; i < OrdersTotal(); i++)
   {
      total = total + my.step;
   }
   GlobalVariableSet("Lots", Lots);
   Comment("Total: " + total, i,
           delete);
   return(0);
}

double Step(double Lots)
{
   double k; if (Lots > 0) {
      return(Lots * my.step);
   }
   return(0);
}

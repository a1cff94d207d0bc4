// Names that the newer language reserves, and odd identifiers
#property copyright "names"

extern double lot.size = 0.1;
extern int    slippage$ = 3;
int    delete = 0;
double rate = 1.5;
int    count = 0;

int init()
{
   delete = 0;
   return(0);
}

double Calc(double price)
{
   double rate = 2.0;
   int count;
   count = 5;
   return(price * rate * count);
}

int start()
{
   double x = Calc(Close[0]) * lot.size;
   int unused1, used = 1;
   int unused2 = 7;
   double unusedArr[10];
   string msg = "rate=" + DoubleToStr(rate, 2);
   delete++;
   Print(msg, " ", x, " ", used, " slip ", slippage$);
   GlobalVariableSet("rate", rate);
   return(0);
}

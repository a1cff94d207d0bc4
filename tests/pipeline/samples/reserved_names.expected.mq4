// Names that the newer language reserves, and odd identifiers
#property copyright "names"

extern double lot_size = 0.1;
extern int    slippage_ = 3;
int    delete_ = 0;
double rate = 1.5;
int    count = 0;

bool chk;

int init(){
   delete_ = 0;
   return(0);
}

double Calc(double price){
   double _rate_ = 2.0;
   int _count_;
   _count_ = 5;
   return(price * _rate_ * _count_);
}

int start(){
   double x = Calc(Close[0]) * lot_size;
int   used = 1;//unused1;
// unused2 = 7;
// unusedArr[10];
   string msg = "rate=" + DoubleToStr(rate, 2);
   delete_++;
   Print(msg, " ", x, " ", used, " slip ", slippage_);
   GlobalVariableSet("rate", rate);
   return(0);
}

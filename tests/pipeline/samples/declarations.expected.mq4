//+------------------------------------------------------------------+
//| Declarations sample                                              |
//+------------------------------------------------------------------+
#property copyright "Example"
extern double Lots = 0.1;
extern int    Slippage = 3;
int    delete_;
double my_step = 0.5;
string Prefix = "EA";
int    i;

bool chk;

int init(){
   delete_ = 0;
   return(0);
}

int start(){
int _i_ ;//unused;
   double total = 0;   // running sum
   string msg ; msg = StringConcatenate( msg ,  Prefix);
   for(_i_ = 0; _i_ < OrdersTotal(); _i_++)
   {
      total = total + my_step;
   }
   GlobalVariableSet("Lots", Lots);
   Comment("Total: " + (string)total, (string)_i_,           (string)delete_);
   return(0);
}

double Step(double _Lots_){
   double k; if (_Lots_ > 0) {
      return(_Lots_ * my_step);
   }
   return(0);
}

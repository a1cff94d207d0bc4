//+------------------------------------------------------------------+
//| Globals that the newer compiler rejects, and those it accepts    |
//+------------------------------------------------------------------+
#property copyright "x"
#define PIPS(x) \
   ((x) * Point * 10)
#define MAGIC 20140101
extern double Lots = 0.1,   // was: Lots = 0.5; Risk = 2;
              Risk = 1;     // in percent; not 2
extern color  TrendUP = Blue,
              TrendDN = Crimson; //Red; //Magenta;
const int     MaxTrades = 5;
double bal /* start */ ;
double pt , spread = 0;
int    Levels[3] = {10,
                    20,
                    30};
string Names = "a;b";
int tf ;
//Slippage = 3;// was: Slippage = 5; Lots = 1;
/* one
   more; */
int    Count = 0;
double Buf[];

bool chk;

int init(){
    bal = AccountBalance();
    pt = MarketInfo(Symbol(), MODE_POINT);
    tf = Period();
Slippage = 3;


   Count = 1;
   return(0);
}

int start(){
   return(0);
}

//| Account monitor with many globals initialised from run-time calls
#property copyright "monitor"

#define VERSION "1.2"
#define MAX_ORDERS 50
#define LOG(msg) Print(__FUNCTION__, ": ", \
                       msg)

extern string  Prefix      = "AM_";
extern int     Corner      = 1;
extern color   TextColor   = White;

double  startBalance ;
double  startEquity  , peakEquity = 0;
string  accountName  ;
int     leverage     ;
string  symbolName   ;
int     tf           ;
double  minLot       ;
double  ratios[3]    ={
0.5, 1.0, 2.0
};
int     counter      = 0;
const int   MaxBars  = 500;
string  labels[]     ={
"Balance", "Equity", "Drawdown"
};
bool    firstRun     = true;
int     history[];

bool chk;

int init()  {
    startBalance = AccountBalance();
    startEquity  = AccountEquity();
    accountName  = AccountName();
    leverage     = AccountLeverage();
    symbolName   = Symbol();
    tf           = Period();
    minLot       = MarketInfo(Symbol(), MODE_MINLOT);


   counter = 0;
   LOG("start");
   return(0);
  }

int deinit()  {
   ObjectsDeleteAll(0, OBJ_LABEL);
   return(0);
  }

void ShowLabel(string name, string text, int y)  {
   string full = Prefix + name;
   if(ObjectFind(full) < 0)
      ObjectCreate(full, OBJ_LABEL, 0, 0, 0);
   ObjectSet(full, OBJPROP_CORNER, Corner);
   ObjectSet(full, OBJPROP_XDISTANCE, 10);
   ObjectSet(full, OBJPROP_YDISTANCE, y);
   ObjectSetText(full, text, 9, "Arial", TextColor);
  }

int start()  {
   double eq = AccountEquity();
   double dd;
   if(eq > peakEquity) peakEquity = eq;
   dd = 0;
   if(peakEquity > 0) dd = (peakEquity - eq) / peakEquity * 100.0;
   ShowLabel("bal", labels[0] + ": " + DoubleToStr(AccountBalance(), 2), 20);
   ShowLabel("eq",  labels[1] + ": " + DoubleToStr(eq, 2), 35);
   ShowLabel("dd",  labels[2] + ": " + DoubleToStr(dd, 1) + "%", 50);
   counter++;
   Comment("Start balance ", (string)startBalance, "\nLeverage 1:", (string)leverage, "\nTicks: ", (string)counter);
   return(0);
  }

// Returns fitted to their function, and inserted where a function ends without one.
extern int Period1 = 14;

bool chk;

int init(){
   return(0);
}

double Calc(double a,            double b)   {
// second
   if (a > b) return (0.0);
   if (a < 0) return /* none */ (0.0);
   Print("return;");
   a = b;
   b = 0;
   Print(a);
   return(0.0);
}
int Table[3] ={
1, 2, 3
};

static void Helper(){
   if (Period1 > 0) return;
   Period1 = 2;
}

int One(int &a[]){
return(a[0]);
}

int Two(int a) {
                if (a > 0){
                a--; }                
   return(0);
}

bool Check(int a){
// checks a
   if (a > 0)
   {
      return(true);
   }
   return(false);
}

int start(){
   int n = 0;
   while (n < 3)
   {
      n++;
   }
   return(0);
}
int Last[2] = {1,
               2};

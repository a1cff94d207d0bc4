// Returns fitted to their function, and inserted where a function ends without one.
extern int Period1 = 14;

int init()
{
   return(0);
}

double Calc(double a,
            double b)   // second
{
   if (a > b) return;
   if (a < 0) return /* none */;
   Print("return;");
   a = b;
   b = 0;
   Print(a);
}
int Table[3] = {1, 2, 3};

static void Helper()
{
   if (Period1 > 0) return(1);
   Period1 = 2;
}

int One(int a[]) { return(a[0]); }

int Two(int a) { if (a > 0) { a--; } }

bool Check(int a)
// checks a
{
   if (a > 0)
   {
      return(true);
   }
}

int start()
{
   int n = 0;
   while (n < 3)
   {
      n++;
   }
}
int Last[2] = {1,
               2};

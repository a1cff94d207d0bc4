// Uses a DLL and a library through #import blocks
#property copyright "imports"

#import "user32.dll"
   int MessageBoxA(int hWnd, string lpText, string lpCaption, int uType);
   int GetParent(int hWnd);
#import "kernel32.dll"
   int GetTickCount();
#import "stdlib.ex4"
   string ErrorDescription(int error_code);
   int    ArraySortEx(double &arr[],  int count);
#import

extern bool ShowBox = true;
int lastTick = 0;

bool chk;

int init() {
   lastTick = GetTickCount();
   return(0);
}

int start() {
   int err;
   double prices[5];
   int now = GetTickCount();
   if (now - lastTick > 60000 && ShowBox) {
      MessageBoxA(0, "One minute passed", "Timer", 0);
      lastTick = now;
   }
   for (int i = 0; i < 5; i++) prices[i] = Close[i];
   ArraySortEx(prices, 5);
   err = GetLastError();
   if (err != 0) Print("error: ", ErrorDescription(err));
   return(0);
}

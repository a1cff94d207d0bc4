#property strict
#include "Utils\Common.mqh"
#import "Libs\stats.ex4"
   double Mean(double &values[],  int count);
   int Join(string &parts[],  string sep = ";");
#import

double Buffer[100];
string Path = "C:\\Data\\";

bool chk;

int init(){
   Print("Loading C:Data");
   Print("Path: " + Path + "\n");
   return(0);
}

void Fill(double &arr[],  int n){
   for(int i = 0; i < n; i++) arr[i] = 0;
}

int Split(string text,  string sep = ",", string &parts[]){
   int k; Print(parts[0]);
   string words[]; StringSplit(text, ',', words);
   return(ArraySize(words));
}

int start(){
   Fill(Buffer, 100);
   Comment("Mean q ", Mean(Buffer, 100));
   return(0);
}

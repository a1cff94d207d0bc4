// Strings with escapes, file paths and URLs
#property copyright "files"
#include <stdlib.mqh>
#include "..\include\MyLib.mqh"

extern string FileName = "data\report.csv";
extern string Url = "http://example.com/api?q=a&b=c";

bool chk;

int WriteReport(string name){
   int h = FileOpen(name, FILE_CSV|FILE_WRITE, ';');
   if (h < 0){
   Print("cannot open ", name, " \ error ", GetLastError());
 return(-1);   
}
   FileWrite(h, "Time;Bid;Ask");
   FileWrite(h, TimeToStr(TimeCurrent()), Bid, Ask);
   FileClose(h);
   return(0);
}


int OnInit(){
return(0);
}

int start(){
   string path = "C:\\Program Files\\MT4\\experts\\files\\";
   string tab = "a\tb\nc";
   string q = "say \"hi\"";
   string odd = "100% sure";
   string jp = "‰¿Ši•\Ž¦";
   Print(path, tab, q, odd, jp, "// not a comment", "/* nor this */");
   WriteReport(FileName);
   Alert("Done: " + Url);
   return(0);
}

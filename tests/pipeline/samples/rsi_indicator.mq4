//+------------------------------------------------------------------+
//|                                                   MyRSI.mq4      |
//+------------------------------------------------------------------+
#property copyright "2009, ivanov"
#property indicator_separate_window
#property indicator_minimum 0
#property indicator_maximum 100
#property indicator_buffers 2
#property indicator_color1 DodgerBlue
#property indicator_color2 Red
#property indicator_level1 30
#property indicator_level2 70

//---- ÑrÑáÑÄÑtÑ~ÑçÑu ÑÅÑpÑÇÑpÑ}ÑuÑÑÑÇÑç
extern int RSIPeriod=14;
extern int Smooth=3;
//---- ÑqÑÖÑÜÑuÑÇÑç
double RSIBuffer[];
double SigBuffer[];
double PosBuffer[];
double NegBuffer[];

//+------------------------------------------------------------------+
//| ÑIÑ~ÑyÑàÑyÑpÑ|ÑyÑxÑpÑàÑyÑë                                                    |
//+------------------------------------------------------------------+
int init()
  {
   string short_name;
//---- 2 ÑtÑÄÑÅÑÄÑ|Ñ~ÑyÑÑÑuÑ|ÑéÑ~ÑçÑá ÑqÑÖÑÜÑuÑÇÑp
   IndicatorBuffers(4);
   SetIndexBuffer(2,PosBuffer);
   SetIndexBuffer(3,NegBuffer);
//---- Ñ|ÑyÑ~ÑyÑy
   SetIndexStyle(0,DRAW_LINE);
   SetIndexBuffer(0,RSIBuffer);
   SetIndexStyle(1,DRAW_LINE,STYLE_DOT);
   SetIndexBuffer(1,SigBuffer);
//---- ÑyÑ}Ñë ÑtÑ|Ñë ÑÄÑ{Ñ~Ñp
   short_name="MyRSI("+RSIPeriod+","+Smooth+")";
   IndicatorShortName(short_name);
   SetIndexLabel(0,short_name);
   SetIndexLabel(1,"Signal");
//----
   SetIndexDrawBegin(0,RSIPeriod);
   return(0);
  }
//+------------------------------------------------------------------+
//| Relative Strength Index                                          |
//+------------------------------------------------------------------+
int start()
  {
   int    i,counted_bars=IndicatorCounted();
   double rel,negative,positive;
//----
   if(Bars<=RSIPeriod) return(0);
//---- Ñ~ÑpÑâÑpÑ|ÑéÑ~ÑçÑu Ñ~ÑÖÑ|Ñy
   if(counted_bars<1)
      for(i=1;i<=RSIPeriod;i++) RSIBuffer[Bars-i]=0.0;
//----
   i=Bars-RSIPeriod-1;
   if(counted_bars>=RSIPeriod) i=Bars-counted_bars-1;
   while(i>=0)
     {
      double sumn=0.0,sump=0.0;
      if(i==Bars-RSIPeriod-1)
        {
         int k=Bars-2;
         //---- Ñ~ÑpÑâÑpÑ|ÑéÑ~ÑÄÑu Ñ~ÑpÑ{ÑÄÑÅÑ|ÑuÑ~ÑyÑu
         while(k>=i)
           {
            rel=Close[k]-Close[k+1];
            if(rel>0) sump+=rel;
            else      sumn-=rel;
            k--;
           }
         positive=sump/RSIPeriod;
         negative=sumn/RSIPeriod;
        }
      else
        {
         //---- ÑÉÑsÑ|ÑpÑwÑyÑrÑpÑ~ÑyÑu
         rel=Close[i]-Close[i+1];
         if(rel>0) sump=rel;
         else      sumn=-rel;
         positive=(PosBuffer[i+1]*(RSIPeriod-1)+sump)/RSIPeriod;
         negative=(NegBuffer[i+1]*(RSIPeriod-1)+sumn)/RSIPeriod;
        }
      PosBuffer[i]=positive;
      NegBuffer[i]=negative;
      if(negative==0.0) RSIBuffer[i]=0.0;
      else RSIBuffer[i]=100.0-100.0/(1+positive/negative);
      i--;
     }
   for(i=Bars-counted_bars-1;i>=0;i--)
      SigBuffer[i]=iMAOnArray(RSIBuffer,0,Smooth,0,MODE_SMA,i);
//----
   return(0);
  }
//+------------------------------------------------------------------+

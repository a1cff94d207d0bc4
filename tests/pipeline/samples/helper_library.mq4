//+------------------------------------------------------------------+
//| stdlib_lite.mq4 - small helpers collected over the years          |
//+------------------------------------------------------------------+
#property copyright "public domain"
#property library

double PipPoint(string symbol)
{
   int digits = MarketInfo(symbol, MODE_DIGITS);
   if (digits == 3 || digits == 5) return (0.0001);
   if (digits == 2) return (0.01);
   return (MarketInfo(symbol, MODE_POINT));
}

double NormLots(double lots)
{
   double step = MarketInfo(Symbol(), MODE_LOTSTEP);
   double minl = MarketInfo(Symbol(), MODE_MINLOT);
   double maxl = MarketInfo(Symbol(), MODE_MAXLOT);
   lots = MathFloor(lots / step) * step;
   if (lots < minl) lots = minl;
   if (lots > maxl) lots = maxl;
   return (lots);
}

string TypeName(int type)
{
   switch (type)
   {
      case OP_BUY:       return ("BUY");
      case OP_SELL:      return ("SELL");
      case OP_BUYLIMIT:  return ("BUY LIMIT");
      case OP_SELLLIMIT: return ("SELL LIMIT");
      case OP_BUYSTOP:   return ("BUY STOP");
      case OP_SELLSTOP:  return ("SELL STOP");
      default:           return ("UNKNOWN");
   }
}

bool IsNewBar()
{
   static datetime lastTime = 0;
   if (Time[0] != lastTime) { lastTime = Time[0]; return (true); }
   return (false);
}

int Sum(int values[], int count)
{
   int total = 0;
   for (int i = 0; i < count; i++) total += values[i];
   return (total);
}

double Average(double values[], int count) {
   if (count <= 0) return (0);
   double s = 0;
   for (int i = 0; i < count; i++) s += values[i];
   return (s / count);
}

void ReverseArray(double& arr[], int n)
{
   double tmp;
   for (int i = 0; i < n / 2; i++)
   {
      tmp = arr[i];
      arr[i] = arr[n - 1 - i];
      arr[n - 1 - i] = tmp;
   }
}

string PadLeft(string s, int width, string pad = " ")
{
   while (StringLen(s) < width) s = pad + s;
   return (s);
}

int StringToArray(string text, string& parts[], string sep = ",")
{
   int count = 0, pos;
   ArrayResize(parts, 0);
   while (true)
   {
      pos = StringFind(text, sep, 0);
      ArrayResize(parts, count + 1);
      if (pos < 0) { parts[count] = text; count++; break; }
      parts[count] = StringSubstr(text, 0, pos);
      text = StringSubstr(text, pos + StringLen(sep));
      count++;
   }
   return (count);
}

string Describe(int ticket,
                string prefix = "#")
{
   string text = StringConcatenate(text, prefix, ticket);
   if (OrderSelect(ticket, SELECT_BY_TICKET))
      text = StringConcatenate(text, " ", TypeName(OrderType()));
   return (text);
}

int Sign(double v) { if (v > 0) return (1); if (v < 0) return (-1); return (0); }

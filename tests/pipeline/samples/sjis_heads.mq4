// 注文の確認
void Msg(string s = "マ")
{
   Alert(s + "}");
}
int Size(string t = "ボ")
{
   int n = StringLen(t);
}
int start()
{
   Msg();
   return(Size());
}

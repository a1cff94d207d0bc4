// 注文の確認
bool chk;

void Msg(string s = "マ"){
   Alert(s + "}");
}
int Size(string t = "ボ"){
   int n = StringLen(t);
   return(0);
}

int OnInit(){
return(0);
}

int start(){
   Msg();
   return(Size());
}

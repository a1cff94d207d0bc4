// 買い注文の条件をチェックする
extern double Lots = 0.1; // ロット数
int start()
{
   Comment("こんにちは、世界");
   return(0);
}

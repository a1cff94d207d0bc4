/*
   TrailingStop.mq4
   K&R style, one-line blocks, code after braces.
   Note: "//" inside strings must survive, as must /* in strings.
*/
#property copyright "trailer"
#property link "https://forum.example.com/threads/trailing?id=42&x=1"

extern int    TrailingStop = 25;
extern int    TrailingStep = 5;
extern int    MagicNumber  = 0;    // 0 = all orders
extern string Note         = "see http://example.com/a//b";


bool chk;

int OnInit(){
return(0);
}

int start() {
    int total = OrdersTotal();
    for (int i = 0; i < total; i++) {
        if (!OrderSelect(i, SELECT_BY_POS)) continue;
        if (OrderSymbol() != Symbol()) continue;
        if (MagicNumber != 0 && OrderMagicNumber() != MagicNumber) continue;
        if (OrderType() == OP_BUY) {
            if (Bid - OrderOpenPrice() > TrailingStop * Point) {
                if (OrderStopLoss() < Bid - (TrailingStop + TrailingStep) * Point) {
                    chk = OrderModify(OrderTicket(), OrderOpenPrice(), Bid - TrailingStop * Point, OrderTakeProfit(), 0, Green);
                }
            }
        } else if (OrderType() == OP_SELL) {
            if (OrderOpenPrice() - Ask > TrailingStop * Point) {
                if (OrderStopLoss() > Ask + (TrailingStop + TrailingStep) * Point || OrderStopLoss() == 0){
                chk = OrderModify(OrderTicket(), OrderOpenPrice(), Ask + TrailingStop * Point, OrderTakeProfit(), 0, Red);                
}
            }
        }
    }
    Comment("Trailing: ", (string)TrailingStop, " step ", (string)TrailingStep, " orders ", (string)total);
    return(0);
}

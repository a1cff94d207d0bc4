// Grid trader, tabs and Allman braces
#property copyright "grid"

extern    double    GridStep    = 20;
extern    int    Levels        = 5;
extern    double    LotSize        = 0.01;
extern    int    Magic        = 777;
static    int    placed        = 0;
double    startPrice    = Bid;
int    levelsArr[10]    =    {1,2,3,4,5,
             6,7,8,9,10};

bool chk;

int init(){
	placed = 0;
	return(0);
}

int start(){
	int	i;
	double	price;
	int	err;

	if	(placed == 0)
	{
		for	(i = 1; i <= Levels; i++)
		{
			price = startPrice + i * GridStep * Point;
			chk = OrderSend(Symbol(), OP_BUYSTOP, LotSize, price, 3, 0, price + GridStep * Point, "grid", Magic, 0, Green);
			price = startPrice - i * GridStep * Point;
			chk = OrderSend(Symbol(), OP_SELLSTOP, LotSize, price, 3, 0, price - GridStep * Point, "grid", Magic, 0, Red);
		}
		placed = 1;
	}

	for	(i = OrdersTotal() - 1; i >= 0; i--)
	{
		if	(!OrderSelect(i, SELECT_BY_POS)) continue;
		if	(OrderMagicNumber() != Magic) continue;
		if	(OrderType() > OP_SELL && TimeCurrent() - OrderOpenTime() > 86400)
			chk = OrderDelete(OrderTicket());
	}
	return(0);
}

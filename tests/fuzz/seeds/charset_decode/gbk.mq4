// 这是一个测试指标
int start() { Print("买入条件"); return(0); }

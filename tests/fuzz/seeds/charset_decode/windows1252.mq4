// Größe der Position in € – Händler™
double Größe = 1.0;

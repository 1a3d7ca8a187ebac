// The program each link check builds: it runs nothing; linking it is the check.
int main() { return 0; }

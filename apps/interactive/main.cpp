// kestrane: the interactive program (one data file per run).
int main() { return 0; }

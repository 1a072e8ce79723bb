// Stands in for unins000.exe when the removal program fails: it ends at once with code 1.
int main() { return 1; }

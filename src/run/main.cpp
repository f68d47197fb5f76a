// Entry point of the vespera program.
int main() { return 0; }

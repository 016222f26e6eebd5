// Program entry: options, platform wiring, the main loop. (Being built.)
int main() { return 0; }

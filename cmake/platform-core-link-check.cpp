// Links the whole platform core and nothing else of the layer: a core file that calls outside the
// core leaves an undefined symbol, and this program fails to link.
int main() { return 0; }

// The library that receives the generated class reference.
int documented_answer() {
	return 42;
}

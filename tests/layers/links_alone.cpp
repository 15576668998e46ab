// Linked with one layer library whole: building it is the check.
int main() {
  return 0;
}

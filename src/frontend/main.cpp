#include "frontend/output.h"

int main() {
  print_line("Tarn 3.50");
  return 0;
}

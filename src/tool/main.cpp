#include "tool/driver.h"

int main(int argc, char* argv[]) { return tinrise::run_tool(argc, argv); }

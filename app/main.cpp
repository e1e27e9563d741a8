// The planner program: everything it does lies in the application library.
#include "app/shell/PlannerProgram.h"

int main(int argc, char** argv) { return PlannerProgram::Main(argc, argv); }

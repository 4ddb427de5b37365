// Keeps the simulator library non-empty until the unit model lands.
namespace kavsim {
int Placeholder() { return 0; }
}

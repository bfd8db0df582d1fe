// The program's entry: everything happens in the application.
#include "app/application.h"

int main() {
    return app::ProgramMain();
}

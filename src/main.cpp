#include "ui/run_vigiax.h"

int main(int argc, char** argv) {
    return vgx::RunVigiax(argc, argv, {});
}

#include "app/quillsongapp.h"

int main(int argc, char** argv) {
    return RunQuillsong(argc, argv);
}

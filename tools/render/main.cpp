// tkv-render: renders a project's stretched audio to a WAV file, without a window.
#include <cstdio>

#include "tools/render/RenderCommand.h"

int main(int argc, char** argv) {
    return RunRenderCommand(argc, argv, stdout, stderr);
}

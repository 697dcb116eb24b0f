// tumblet-guide: writes "Tumblet User Guide.pdf" from the guide's text and the pictures that
// tumblet-guide-shots drew.
//
//   tumblet-guide OUTPUT.pdf PICTURES_FOLDER

#include "GuideContent.h"
#include "GuideDocument.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: tumblet-guide OUTPUT.pdf PICTURES_FOLDER\n");
        return 2;
    }
    tumblet::guide::TGuideDocument doc(argv[1]);
    if (!doc.Ok())
    {
        std::fprintf(stderr, "tumblet-guide: cannot write %s\n", argv[1]);
        return 1;
    }
    tumblet::guide::WriteGuide(doc, argv[2]);
    int pages = doc.Finish();
    if (!doc.Ok())
    {
        std::fprintf(stderr, "tumblet-guide: writing %s failed\n", argv[1]);
        return 1;
    }
    std::printf("tumblet-guide: %s, %d pages\n", argv[1], pages);
    return 0;
}

// Drennix, the desktop program.
#include "drennix_app.h"

int main(int argc, char** argv)
{
    DrennixApp application(argc, argv);
    return application.exec();
}

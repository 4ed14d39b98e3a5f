#include "tessel1app.h"

int main(int argc, char *argv[])
{
    CTessel1App app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return app.exec();
}

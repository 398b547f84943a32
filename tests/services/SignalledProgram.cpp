// Stands in for a program whose stop hangs: it tells each termination request on its output
// and never ends by itself.
#include "services/TerminationSignals.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QFile out;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested,
                     [&out] { out.write("stopping\n"); });
    out.write("ready\n");
    return app.exec();
}

// quizdb: makes, extends, prints and checks question files. See quizdb --help.
#include "tools/quizdb/quizdb.h"

#include <QFile>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 2;
    const int status = quizdb::run(args, out, err);
    if (!out.flush()) {
        err.write("Die Ausgabe lässt sich nicht schreiben.\n");
        return 2;
    }
    return status;
}

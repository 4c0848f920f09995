#include "app/cli.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return ottavario::cli::run(QCoreApplication::arguments().mid(1), out, err);
}

// The commands of orvexctl: each takes the arguments after its name and returns the exit status.
#pragma once

#include <QStringList>

int Decode(const QStringList &args);
int Encode(const QStringList &args);
int Ports(const QStringList &args);
int Download(const QStringList &args);
int Upload(const QStringList &args);
int Monitor(const QStringList &args);
int Diff(const QStringList &args);
int Exporter(const QStringList &args);
int Journal(const QStringList &args);
int Apply(const QStringList &args);

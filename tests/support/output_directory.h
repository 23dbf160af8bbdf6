// SPDX-License-Identifier: MIT
#pragma once
// The one argument of the picture-taking tools: the folder the pictures go to.

#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>

inline QDir OutputDirectoryArgument(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    std::exit(2);
  }
  return QDir(QString::fromLocal8Bit(argv[1]));
}

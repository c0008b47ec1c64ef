#!/usr/bin/env bash
# Plants include and format faults in small throwaway trees and checks that
# scripts/check-layers and scripts/check-format fail on each, naming it, and
# pass once it is gone.
#   CheckScriptsTest.sh layers|format SOURCE_DIR
set -uo pipefail
what=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# Runs a check on a tree; expects STATUS and each further argument as a line
# of its standard error.
expect() {
  local script=$1 tree=$2 status=$3
  shift 3
  local output actual
  output=$("$source_dir/scripts/$script" "$tree" 2>&1)
  actual=$?
  [ "$actual" -eq "$status" ] || fail "$script on $(basename "$tree"): status $actual, not $status"$'\n'"$output"
  for wanted in "$@"; do
    grep -qxF -- "$wanted" <<<"$output" || fail "$script on $(basename "$tree"): no line \"$wanted\""$'\n'"$output"
  done
}

put() {
  mkdir -p "$(dirname "$1")"
  printf '%s\n' "${@:2}" >"$1"
}

case "$what" in
layers)
  clean=$work/clean
  put "$clean/base/Error.h" '#pragma once' '#include <string>' '#include <sys/mman.h>' \
    '#include <queue>' '#include <quadmath.h>'
  put "$clean/mapdata/Reader.cpp" '#include "mapdata/Reader.h"' '#include "base/Error.h"'
  put "$clean/render/Measure.cpp" '#include "drawing/Surface.h"'
  put "$clean/platform/Text.cpp" '#include <QString>' '#include "drawing/Canvas.h"' '#include "render/Measure.h"'
  put "$clean/ui/Window.cpp" '#include <QtWidgets/QWidget>' '#include "platform/Text.h"'
  put "$clean/app/main.cpp" '#include "cli/CommandLine.h"' '#include "ui/ProgramStart.h"'
  # karvello_cli_core: Request.cpp, Commands.cpp and the cli/ headers they
  # reach; the other cli/ files may use platform/ and Qt.
  put "$clean/cli/CMakeLists.txt" 'add_library(karvello_cli_core STATIC' '  Request.cpp' \
    '  Commands.cpp' ')' 'add_library(karvello_cli_files STATIC Canvases.cpp)'
  put "$clean/cli/Request.cpp" '#include "cli/Request.h"' '#include "workspace/Workspace.h"'
  put "$clean/cli/Request.h" '#pragma once' '#include "cli/Text.h"'
  put "$clean/cli/Text.h" '#pragma once' '#include <string>'
  put "$clean/cli/Canvases.cpp" '#include "platform/Text.h"' '#include <QString>'
  # The small program: Launcher.cpp builds without Qt, main.cpp with it.
  put "$clean/app/CMakeLists.txt" 'add_executable(karvello' '  Launcher.cpp' ')' \
    'add_executable(karvello-qt main.cpp)'
  put "$clean/app/Launcher.cpp" '#include "cli/Request.h"' '#include "render/Measure.h"'
  put "$clean/tests/AnyTest.cpp" '#include "ui/Window.h"' '#include <QString>'
  expect check-layers "$clean" 0

  broken=$work/broken
  cp -r "$clean" "$broken"
  put "$broken/base/Numbers.h" '#pragma once' '  #  include "mapdata/Reader.h"'
  put "$broken/drawing/Draw.cpp" '#include "drawing/Draw.h"' '#include <QColor>'
  put "$broken/workspace/Workspace.h" '#include "tests/support/Fake.h"'
  put "$broken/cli/Commands.cpp" '#include "base/Text.h"' '#include "ui/Window.h"'
  put "$broken/platform/Canvas.cpp" '#include "cli/Request.h"'
  put "$broken/mapdata/Angled.cpp" '#include <workspace/Workspace.h>'
  put "$broken/render/Canvas.cpp" '#include "workspace/Canvas.h"' '#include <QFont>'
  put "$broken/mapdata/Lower.cpp" '#include <string>' '#include <qstring.h>'
  put "$broken/cli/Text.h" '#pragma once' '#include "platform/Text.h"'
  put "$broken/cli/Request.cpp" '#include "cli/Request.h"' '#include <QtCore/QString>'
  put "$broken/app/Launcher.cpp" '#include "ui/Window.h"' '#include <QString>'
  expect check-layers "$broken" 1 \
    '  base/Numbers.h:2: #include "mapdata/Reader.h" (base/ may not use mapdata/)' \
    '  drawing/Draw.cpp:2: #include <QColor> (a Qt header below platform/)' \
    '  workspace/Workspace.h:1: #include "tests/support/Fake.h" (tests/ is not a layer)' \
    '  cli/Commands.cpp:2: #include "ui/Window.h" (cli/ may not use ui/)' \
    '  platform/Canvas.cpp:1: #include "cli/Request.h" (platform/ may not use cli/)' \
    '  mapdata/Angled.cpp:1: #include <workspace/Workspace.h> (mapdata/ may not use workspace/)' \
    '  render/Canvas.cpp:1: #include "workspace/Canvas.h" (render/ may not use workspace/)' \
    '  render/Canvas.cpp:2: #include <QFont> (a Qt header below platform/)' \
    '  mapdata/Lower.cpp:2: #include <qstring.h> (a Qt header below platform/)' \
    '  cli/Text.h:2: #include "platform/Text.h" (karvello_cli_core builds without Qt: it may not use platform/)' \
    '  cli/Request.cpp:2: #include <QtCore/QString> (karvello_cli_core builds without Qt)' \
    '  app/Launcher.cpp:1: #include "ui/Window.h" (the small program karvello builds without Qt: it may not use ui/)' \
    '  app/Launcher.cpp:2: #include <QString> (the small program karvello builds without Qt)'
  [ "$(grep -c '^  ' <<<"$("$source_dir/scripts/check-layers" "$broken" 2>&1)")" -eq 13 ] ||
    fail "check-layers reports an include that keeps to the layers"
  ;;
format)
  tree=$work/tree
  mkdir -p "$tree/src"
  cp "$source_dir/.clang-format" "$tree/"
  put "$tree/src/Good.cpp" 'int Twice(int value) {' '    return 2 * value;' '}'
  put "$tree/src/Bad.h" '#pragma once' 'int  Twice( int value );'
  put "$tree/src/Untracked.cpp" 'int  Ignored ;'
  git -C "$tree" init -q
  git -C "$tree" add .clang-format src/Good.cpp src/Bad.h
  expect check-format "$tree" 1 '  src/Bad.h'
  grep -q 'Good.cpp\|Untracked.cpp' <<<"$("$source_dir/scripts/check-format" "$tree" 2>&1)" &&
    fail "check-format names a formatted or an untracked file"
  clang-format-14 -i "$tree/src/Bad.h" 2>/dev/null || clang-format -i "$tree/src/Bad.h"
  expect check-format "$tree" 0
  ;;
*)
  echo "usage: $0 layers|format SOURCE_DIR" >&2
  exit 2
  ;;
esac
exit $((failures != 0))

#!/bin/sh
# The layers the code keeps, checked on the source tree. Each fault is
# printed as "file:line: what it does: the rule it breaks"; the check fails
# when there is one.
#
# Under runs/, subfolders included (the terminal drives the runs, and the
# runs library links neither Qt Widgets nor Qt GUI):
# 1. no include of a file of the window's folders, app/, dialogs/, output/,
#    however its path is spelled ("../app/x.h" too), and no mention of the
#    main window;
# 2. no include of a Qt Widgets or Qt GUI header: one whose name, without a
#    QtWidgets/ or QtGui/ in front, is a file of Qt's QtWidgets or QtGui
#    include folder (<QWidget>, <QtGui/QPixmap>, "qpixmap.h" alike);
# 3. no include of one of the window's platform headers. Which ones is read
#    from the headers rather than listed, so a new adapter is judged by what
#    it uses: a header under platform/ is the window's when it or its .cpp
#    includes a Qt Widgets or GUI header or names QWidget or QWindow (message
#    boxes, file choosers, help viewer, busy cursor, keep above, window
#    frame, clipboard, the X11 and Wayland parts), and so is a header naming
#    a class one of those declares (platform.h, which gathers them).
# In the window's files (app/vemp_107.h, a file defining a member of
# TVempForm, dialogs/), which know engines only through the registry's
# descriptions:
# 4. no include of an engine's header, runs/*_engine.h, and no mention of a
#    class one declares. download_engine.h, the interface every engine
#    implements, is no engine's.
# Usage: check_layers.sh SOURCE_DIR QT_WIDGETS_INCLUDE_DIR
set -u
cd "$1" || exit 2
widgets=${2%/}
gui=${widgets%/*}/QtGui
for header in "$widgets/QWidget" "$gui/QGuiApplication"; do
    [ -f "$header" ] || { echo "$header not found: give Qt's QtWidgets include folder" >&2; exit 2; }
done

# includes FILE...: each include of the files, as "file:line:header".
includes() {
    [ $# -gt 0 ] || return 0
    grep -H -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "$@" |
        sed -E 's/^([^:]*:[0-9]+):[^<"]*[<"]([^>"]*)[>"].*/\1:\2/'
}

# qt_gui HEADER: whether the header is one of Qt Widgets or Qt GUI.
qt_gui() {
    name=${1##*QtWidgets/}
    name=${name##*QtGui/}
    case $name in */* | '') return 1 ;; esac
    [ -f "$widgets/$name" ] || [ -f "$gui/$name" ]
}

# uses_gui FILE...: whether the files include a Qt Widgets or GUI header or
# name a widget or a window.
uses_gui() {
    grep -q -w -E 'QWidget|QWindow' "$@" && return 0
    for included in $(includes "$@" | cut -d: -f3-); do
        qt_gui "$included" && return 0
    done
    return 1
}

# path_of FILE HEADER: the included file's path from the top of the tree. A
# path starting with a dot is read from the including file's folder where
# it leads to a file; otherwise its leading ../ and ./ are dropped, so that
# a wrong one still names the folder it means.
path_of() {
    path=$2
    case $path in
    .*) [ -e "${1%/*}/$path" ] && path=${1%/*}/$path ;;
    esac
    case $path in
    *./*) echo "$path" | sed -e 's#/\./#/#g' -e ':a' -e 's#[^/.][^/]*/\.\./##' -e 'ta' -e 's#^\(\.\.*/\)*##' ;;
    *) echo "$path" ;;
    esac
}

# declared FILE...: the classes and structs the files define (not those they
# only declare ahead).
declared() {
    [ $# -gt 0 ] || return 0
    sed -n -E 's/^(class|struct)[[:space:]]+([A-Za-z_][A-Za-z0-9_]*)[^;]*$/\2/p' "$@" | sort -u
}

# The window's platform headers (rule 3), as " a.h b.h ".
platform_headers=$(find platform -name '*.h' | sort)
window_platform=$(for header in $platform_headers; do
    code=${header%.h}.cpp
    [ -f "$code" ] || code=
    if uses_gui "$header" $code; then echo "$header"; fi
done)
while :; do
    classes=$(declared $window_platform | paste -s -d '|' -)
    [ -n "$classes" ] || break
    more=$( { echo "$window_platform"; grep -l -w -E "$classes" $platform_headers; } | sort -u)
    [ "$more" = "$window_platform" ] && break
    window_platform=$more
done
window_platform=" $(echo "$window_platform" | tr '\n' ' ')"

# The engines' headers and classes (rule 4).
engines=" $(find runs -name '*_engine.h' ! -path runs/download_engine.h | sort | tr '\n' ' ')"
engine_classes=$(declared $engines | paste -s -d '|' -)
window=$( { echo app/vemp_107.h; grep -rl 'TVempForm::' app common dialogs output platform series; find dialogs -type f; } | sort -u)

faults=$(
    includes $(find runs -type f | sort) | while IFS=: read -r file line header; do
        path=$(path_of "$file" "$header")
        case $path in
        app/* | dialogs/* | output/*)
            echo "$file:$line: includes $header: nothing under runs/ includes a file of the window's folders (app/, dialogs/, output/)" ;;
        esac
        case $window_platform in
        *" $path "*)
            echo "$file:$line: includes $header: nothing under runs/ includes a platform header of the window's (one that uses Qt Widgets or GUI, or names a class of one that does)" ;;
        esac
        if qt_gui "$header"; then
            echo "$file:$line: includes $header: nothing under runs/ includes a Qt Widgets or Qt GUI header"
        fi
    done
    grep -rn -w 'TVempForm' runs | while IFS=: read -r file line _; do
        echo "$file:$line: names TVempForm: nothing under runs/ names the main window"
    done

    includes $window | while IFS=: read -r file line header; do
        case $engines in
        *" $(path_of "$file" "$header") "*)
            echo "$file:$line: includes $header: no window file includes an engine's header (runs/*_engine.h)" ;;
        esac
    done
    [ -z "$engine_classes" ] || grep -H -n -o -w -E "$engine_classes" $window | while IFS=: read -r file line class; do
        echo "$file:$line: names $class: no window file names a class of an engine's header (runs/*_engine.h)"
    done
)
[ -z "$faults" ] && exit 0
echo "$faults" >&2
exit 1

#!/bin/sh
# The layers the code keeps, checked on the source tree:
# - nothing under runs/ includes a widget (a header of Qt Widgets) or a file
#   of the window's folders, nor defines a member of the main window;
# - no window file (one defining a member of the main window, its header,
#   the dialogs) names a concrete engine: the window knows engines only
#   through the registry's descriptions.
# Usage: check_layers.sh SOURCE_DIR QT_WIDGETS_INCLUDE_DIR
set -u
source=$1
widgets=$2
cd "$source" || exit 2
[ -f "$widgets/QWidget" ] || { echo "no Qt Widgets headers in $widgets" >&2; exit 2; }
status=0

# Every header a runs/ file includes, as "file:line:header".
includes=$(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' runs/* |
           sed -E 's/^([^:]*:[0-9]+):[^<"]*[<"]([^>"]*)[>"].*/\1:\2/')
for entry in $includes; do
    header=${entry##*:}
    case $header in
    app/* | dialogs/* | output/*)
        echo "$entry: runs/ includes a file of the window" >&2
        status=1 ;;
    QtWidgets/*)
        echo "$entry: runs/ includes a widget" >&2
        status=1 ;;
    *)
        if [ -f "$widgets/$header" ]; then
            echo "$entry: runs/ includes a widget" >&2
            status=1
        fi ;;
    esac
done
if grep -n 'TVempForm' runs/*; then
    echo "runs/ names the main window" >&2
    status=1
fi

window=$(grep -l -E 'TVempForm::' app/* output/* series/* dialogs/*; echo app/vemp_107.h; ls dialogs/*)
if grep -n -i -E 'aria2|kget|LocalEngine|local_engine|Downloader\b|downloader\.h' $window; then
    echo "a window file names a concrete engine" >&2
    status=1
fi
exit $status

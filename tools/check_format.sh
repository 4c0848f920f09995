#!/usr/bin/env bash
# Fails on a C++ file that is not laid out as .clang-format says, and on a
# connect without a context object: its functor would outlive what it
# captures. (Qt 6.4 ignores QT_NO_CONTEXTLESS_CONNECT, so the check is here.)
set -euo pipefail

# The files named, or every C++ file of the project.
files=()
for file in "$@"; do
    files+=("$(realpath "$file")")
done
cd "$(dirname "$0")/.."
if [ ${#files[@]} -eq 0 ]; then
    mapfile -t files < <(find src tests bench tools fuzz -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
fi
status=0
clang-format --dry-run --Werror "${files[@]}" || status=1

# A connect call of three arguments: sender, signal and a functor alone.
# Brackets and string literals are skipped, so only top-level commas count.
perl -0777 -ne '
    while (/\bconnect\s*\(/g) {
        my ($at, $depth, $commas) = (pos, 1, 0);
        my $rest = substr($_, $at);
        while ($depth > 0 && $rest =~ /\G("(?:[^"\\\\]|\\\\.)*"|'"'"'(?:[^'"'"'\\\\]|\\\\.)*'"'"'|[(\[{]|[)\]}]|,|[^"'"'"'()\[\]{},]+)/gc) {
            my $token = $1;
            if ($token =~ /^[(\[{]$/) { ++$depth }
            elsif ($token =~ /^[)\]}]$/) { --$depth }
            elsif ($token eq "," && $depth == 1) { ++$commas }
        }
        if ($commas == 2) {
            my $line = 1 + (substr($_, 0, $at) =~ tr/\n//);
            print "$ARGV:$line: connect without a context object\n";
            $::found = 1;
        }
    }
    END { exit($::found ? 1 : 0) }
' "${files[@]}" || status=1
exit $status

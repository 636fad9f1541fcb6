#!/usr/bin/env bash
# The locale that gives Wine each code page for non-Unicode programs:
#   wine-locales.sh CODEPAGE   prints its locale (nothing, status 2, for none)
#   wine-locales.sh            prints every one of them
# 65001 is Windows' UTF-8 option. scripts/setup.sh and the guest's image
# install them all.
declare -A locales=([936]=zh_CN.UTF-8 [950]=zh_TW.UTF-8 [932]=ja_JP.UTF-8 [949]=ko_KR.UTF-8
                    [1252]=en_US.UTF-8 [65001]=hi_IN.UTF-8)
if [ $# -eq 0 ]; then
  echo "${locales[@]}"
elif [ -n "${locales[$1]:-}" ]; then
  echo "${locales[$1]}"
else
  exit 2
fi

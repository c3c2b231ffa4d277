# Bash completion of sxtool and sxsim. The commands, options, items and the
# words of set are read from the programs' own help, so they are always the
# ones installed.

_sx_options() { # program [command]: the long options its help names
    "$@" --help 2>/dev/null | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u
}

_sx_commands() { # program: its commands
    "$1" --help 2>/dev/null | awk '/^Subcommands:/{on=1; next} on && /^$/{exit} on && /^  [a-z]/{print $1}'
}

_sx_set_words() { # program item place: the words set takes there
    "$1" set --help 2>/dev/null |
        awk -v item="$2" -v place="$3:" '/^Words of set, by place:/{on=1; next} on && !/^  /{exit}
            on && $1 == item && $2 == place {gsub(/\|/, " ", $3); print $3}'
}

_sxtool() {
    local cur prev words cword
    _init_completion || return
    local prog=${words[0]} cmd="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
        --trace | --log) ((i++)) ;;
        -*) ;;
        *) cmd=${words[i]}; break ;;
        esac
    done
    case $prev in
    --log | --out | --record) _filedir; return ;;
    --format) COMPREPLY=($(compgen -W "text line csv csvenh jsonl" -- "$cur")); return ;;
    --target) COMPREPLY=($(compgen -W "pno pos ori" -- "$cur")); return ;;
    --trace) COMPREPLY=($(compgen -W "0 1 2 3 4 5 6 7" -- "$cur")); return ;;
    --qos) COMPREPLY=($(compgen -W "reliable best-effort" -- "$cur")); return ;;
    --sim-rate | --rate) COMPREPLY=($(compgen -W "30 60 120 240 480 960" -- "$cur")); return ;;
    esac
    if [[ -z $cmd ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "$(_sx_options "$prog")" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$(_sx_commands "$prog")" -- "$cur"))
        fi
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_sx_options "$prog" "$cmd")" -- "$cur"))
        return
    fi
    case $cmd in
    get | set | reset)
        if ((cword == i + 1)); then
            local items
            items=$("$prog" "$cmd" --help 2>/dev/null | awk '/^Items and the values of set:/{on=1; next} on && !/^  /{exit} on {sub(":", "", $1); print $1}')
            COMPREPLY=($(compgen -W "$items" -- "$cur"))
        elif [[ $cmd == set ]]; then
            # The place of this word among the item's values: options and
            # the values they take do not count.
            local place=1 j
            for ((j = i + 2; j < cword; j++)); do
                case ${words[j]} in
                --sensor | --source | --target | --serial | --cfg | --tag | --sim-sensors | --sim-rate | --trace | --log) ((j++)) ;;
                -*) ;;
                *) ((place++)) ;;
                esac
            done
            COMPREPLY=($(compgen -W "$(_sx_set_words "$prog" "${words[i + 1]}" "$place")" -- "$cur"))
        fi
        ;;
    help)
        ((cword == i + 1)) && COMPREPLY=($(compgen -W "$(_sx_commands "$prog")" -- "$cur"))
        ;;
    record | convert) _filedir ;;
    esac
}
complete -F _sxtool sxtool

_sxsim() {
    local cur prev words cword
    _init_completion || return
    case $prev in
    --replay | --tty) _filedir; return ;;
    --rate) COMPREPLY=($(compgen -W "30 60 120 240 480 960" -- "$cur")); return ;;
    --family) COMPREPLY=($(compgen -W "tracker q7tag q7hub" -- "$cur")); return ;;
    esac
    COMPREPLY=($(compgen -W "$(_sx_options "${words[0]}")" -- "$cur"))
}
complete -F _sxsim sxsim

# Bash completion of sxtool and sxsim. The commands, options and items are
# read from the programs' own help, so they are always the ones installed.

_sx_options() { # program [command]: the long options its help names
    "$@" --help 2>/dev/null | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u
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
        local commands
        commands=$("$prog" --help 2>/dev/null | awk '/^Subcommands:/{on=1; next} on && /^$/{exit} on && /^  [a-z]/{print $1}')
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "$(_sx_options "$prog")" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
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
            items=$("$prog" "$cmd" --help 2>/dev/null | awk '/^Items and the values of set:/{on=1; next} on && /^  [a-z]/{sub(":", "", $1); print $1}')
            COMPREPLY=($(compgen -W "$items" -- "$cur"))
        fi
        ;;
    record | convert | help) [[ $cmd == help ]] || _filedir ;;
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

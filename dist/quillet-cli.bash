# SPDX-License-Identifier: GPL-2.0-or-later
# bash completion for quillet-cli: commands, options, dictionary names from `quillet-cli list`,
# folders for --folder and files for the import sources.

_quillet_cli() {
    local cur prev words cword
    _init_completion || return

    local commands="import import-ipa import-suggest import-tables list lookup suggest pron"
    local options="--folder --name --title --direction --json --stdin --no-suggestions --help --version"

    case $prev in
        --folder)
            _filedir -d
            return
            ;;
        --name)
            # The names in the folder given so far, else on the search path.
            local i folder=()
            for ((i = 1; i < cword; i++)); do
                [[ ${words[i]} == --folder ]] && folder=(--folder "${words[i + 1]}")
            done
            COMPREPLY=($(compgen -W "$("${words[0]}" "${folder[@]}" list 2>/dev/null | cut -f1)" \
                -- "$cur"))
            return
            ;;
        --direction)
            COMPREPLY=($(compgen -W "0 1" -- "$cur"))
            return
            ;;
        --title)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    local i command=
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --folder | --name | --title | --direction) ((i++)) ;;
            -*) ;;
            *)
                command=${words[i]}
                break
                ;;
        esac
    done
    case $command in
        "") COMPREPLY=($(compgen -W "$commands" -- "$cur")) ;;
        import | import-ipa) _filedir ;;
    esac
} &&
    complete -F _quillet_cli quillet-cli

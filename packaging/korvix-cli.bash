# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for korvix-cli. The commands and their first words come from the
# program's own help, so new commands complete without a change here.
_korvix_cli()
{
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        _init_completion || return
    else
        words=("${COMP_WORDS[@]}") cword=$COMP_CWORD cur=${COMP_WORDS[COMP_CWORD]}
    fi
    local cli=${words[0]}
    if [ "$cword" -eq 1 ]; then
        local commands
        commands=$("$cli" help 2>/dev/null | sed -n 's/^  \([a-z0-9-]*\).*/\1/p')
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        return
    fi
    if [ "$cword" -eq 2 ] && [ "${words[1]}" != help ]; then
        # The first word of each " | " alternative of the usage that is a plain word
        # ("csv|asc" without spaces lists an argument's values, not subcommands).
        local usage subs
        usage=$("$cli" help "${words[1]}" 2>/dev/null | sed -n "s/^usage: [^ ]* ${words[1]} //p")
        subs=$(printf '%s\n' "$usage" | sed 's/ | /\n/g' | awk '$1 ~ /^[a-z]+$/ {print $1}')
        if [ -n "$subs" ]; then
            COMPREPLY=($(compgen -W "$subs" -- "$cur"))
            return
        fi
    fi
    if [ "$cword" -eq 2 ] && [ "${words[1]}" = help ]; then
        COMPREPLY=($(compgen -W "$("$cli" help 2>/dev/null | sed -n 's/^  \([a-z0-9-]*\).*/\1/p')" -- "$cur"))
        return
    fi
    COMPREPLY=($(compgen -f -- "$cur"))
}
complete -o filenames -F _korvix_cli korvix-cli

#!/usr/bin/env bash
# Exits 0 when this machine's kernel starts 32-bit x86 programs, which 32-bit Wine's
# loader is; a kernel built without IA-32 emulation refuses them. The probe is a
# program of three instructions that only exits, made with the binutils every
# build here has.
set -uo pipefail
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' |
  as --32 -o "$probe/exit.o" - && ld -m elf_i386 -o "$probe/exit" "$probe/exit.o" &&
  "$probe/exit" 2>/dev/null

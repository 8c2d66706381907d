; blink.asm - an LED on RB0 of a PIC16F84A blinks about twice a second.
;
; Wiring: an LED with a 330 ohm resistor from RB0 (pin 6) to ground, a 4 MHz crystal on OSC1 and OSC2.
; At 4 MHz one instruction takes 1 microsecond (a GOTO takes 2), so the delay loop below, about 250,000
; instructions long, keeps the LED on for a quarter of a second and off for another.
;
; A line is a label (at the start of the line), an instruction with its operands, and a comment after ";".

; The processor is named in the project (Project > Options > Processor: 16F84A), which passes it to the
; assembler; the header below gives names to its registers and bits: STATUS, PORTB, RP0, ...
        #include <p16f84a.inc>

        ; the configuration word: crystal oscillator, no watchdog, power-up timer on, no code protection
        __config _XT_OSC & _WDT_OFF & _PWRTE_ON & _CP_OFF

        errorlevel -302                 ; "register not in bank 0": we switch banks ourselves (RP0)

; Two counters for the delay, in the general-purpose registers that start at 0x0C.
        cblock  0x0C
        Inner                           ; counts the short inner loop down
        Outer                           ; counts how often the inner loop runs
        endc

        org     0x000                   ; the processor starts here after a reset
Start   bsf     STATUS,RP0              ; switch to bank 1, where the pin directions are
        clrf    TRISB                   ; 0 = output: every PORTB pin drives its LED
        bcf     STATUS,RP0              ; back to bank 0, where PORTB is
        clrf    PORTB                   ; all LEDs off to begin with

Loop    movlw   b'00000001'             ; W = the bit of RB0
        xorwf   PORTB,F                 ; flip that bit of PORTB: the LED goes on, or off

; The delay: the inner loop runs 256 times (4 instructions each), and that 250 times.
        movlw   d'250'
        movwf   Outer                   ; Outer = 250
Wait    clrf    Inner                   ; Inner = 0: the first decrement makes it 255, so 256 rounds
WaitIn  nop                             ; does nothing for one instruction time
        decfsz  Inner,F                 ; Inner = Inner - 1; skip the next instruction when it reaches 0
        goto    WaitIn
        decfsz  Outer,F                 ; one more inner loop done; skip when all 250 are
        goto    Wait

        goto    Loop                    ; flip the LED again, for ever

        end                             ; the assembler reads no further
